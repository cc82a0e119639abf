#pragma once
// TVisualSetupPage: the "Visual" page. A drawing of the starter's terminals with buttons that
// explain a terminal ("Info") or open the group editor on the parameter that programs it
// ("Program", "F01 Motor FLA"), and six buttons that show a parameter group in the browser.
// The "Configuration" dialog (TDlg1) shows a terminal's title, description and current setting.

#include "comm/UserPrompts.h"
#include "param/Overview.h"

#include <QDialog>
#include <QMap>
#include <QString>
#include <QWidget>

#include <functional>
#include <optional>

class QLabel;
class QPushButton;

namespace rv8::app {

class TGroupPrm2;
class TParameterBrowser;

namespace visual_text {
inline const QString kRelatedMissing = QStringLiteral("Error: Related parameter can't be found.");
inline const QString kGroupHint = QStringLiteral("View Parameter Group");
}  // namespace visual_text

// "Configuration": one terminal's information. Modify Setting closes with Modify().
class TDlg1 : public QDialog {
    Q_OBJECT
public:
    enum Result { Closed = 0, Modify = 2 };
    explicit TDlg1(QWidget* parent = nullptr);
    // title/description/setting as shown; canModify shows "Modify Setting".
    void Fill(const QString& title, const QString& description, const QString& setting, bool canModify);
    QLabel* TitleLabel() const { return m_title; }
    QLabel* DescriptionLabel() const { return m_description; }
    QLabel* SettingLabel() const { return m_setting; }
    QPushButton* ModifyButton() const { return m_modify; }
    QPushButton* CloseButton() const { return m_close; }

private:
    QLabel* m_title = nullptr;
    QLabel* m_description = nullptr;
    QLabel* m_setting = nullptr;
    QPushButton* m_modify = nullptr;
    QPushButton* m_close = nullptr;
};

// What a terminal button shows and opens.
struct TTerminalInfo {
    QString Title;
    QString Description;
    QString Setting;          // "N/A" when empty
    bool CanModify = false;   // program buttons with a link-table entry
    int Parameter = -1;       // the parameter "Modify Setting" opens (-1 none)
};

struct VisualServices {
    comm::UserPrompts* Prompts = nullptr;
    TGroupPrm2* Editor = nullptr;
    TParameterBrowser* Browser = nullptr;
    param::PrmTable* Table = &param::PRM_TABLE;
    param::TSelectionState* Selection = &param::SELECTION;
};

class TVisualSetupPage : public QWidget {
    Q_OBJECT

public:
    // Button keys: "InputPower", "ControlPower", "Triac", "OutputPower" (information), "Fla",
    // "Relay1".."Relay3", "Analog" (program), "Group1".."Group6" (groups).
    explicit TVisualSetupPage(VisualServices services, QWidget* parent = nullptr);

    // Refreshes the hints of the parameter and relay buttons with their current settings
    // (before the page is shown).
    void RefreshHints();
    // What a button's "Configuration" dialog shows.
    TTerminalInfo InfoOf(const QString& key) const;
    // Runs a button as a click: the dialog for terminal buttons, the group for group buttons.
    void Click(const QString& key);
    // Opens the editor on the related parameter (Modify Setting); false with the message when
    // there is none.
    bool ModifySetting(const QString& key);
    QPushButton* Button(const QString& key) const;

    // Hook for tests: replaces the modal "Configuration" dialog; returns TDlg1::Result.
    std::function<int(const TTerminalInfo&)> dialogHook;

signals:
    // The main window shows its parameter page (after a group button).
    void showParametersRequested();

private:
    QPushButton* addButton(const QString& key, const QString& caption, const QString& hint = {});
    std::optional<std::pair<param::TLinkTable, int>> linkOf(const QString& key) const;

    VisualServices m_s;
    QMap<QString, QPushButton*> m_buttons;
};

}  // namespace rv8::app

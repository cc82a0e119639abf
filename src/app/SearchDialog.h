#pragma once
// TSearchIt ("Parameter Search"): asks for a search text. The combo box starts with the stored
// search text and offers the usual words; "&Search" or Enter accepts, "&Close" cancels.

#include <QDialog>
#include <QString>

class QComboBox;
class QPushButton;

namespace rv8::app {

inline const QString kSearchDialogTitle = QStringLiteral("Parameter Search");

class TSearchIt : public QDialog {
    Q_OBJECT

public:
    explicit TSearchIt(QWidget* parent = nullptr);

    // Puts `text` into the combo box (the stored SearchText) before showing.
    void SetSearchText(const QString& text);
    // The text of the combo box (the new SearchText when accepted).
    QString SearchText() const;

    QComboBox* SearchCombo() const { return m_combo; }
    QPushButton* SearchButton() const { return m_search; }
    QPushButton* CloseButton() const { return m_close; }

private:
    QComboBox* m_combo = nullptr;
    QPushButton* m_search = nullptr;
    QPushButton* m_close = nullptr;
};

}  // namespace rv8::app

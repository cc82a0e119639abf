#pragma once
// "Error Detected": the modal question a failed Modbus request puts to the user. It is the
// program's ErrorDecider: the communication session calls Decide() from inside a register
// operation, and the answer steers the client's retry loop.
//
// "&Retry" sends the request again, "&Ignore" (enabled only where the caller allows it) goes on
// without the data, "&Abort" (also Esc and closing the window) gives up.

#include "comm/ErrorDecider.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace rv8::app {

class TErrForm final : public QDialog, public comm::ErrorDecider {
    Q_OBJECT

public:
    // Centred on `parent` (the main window) when shown.
    explicit TErrForm(QWidget* parent = nullptr);

    // Shows the dialog modally with `Text`; "&Ignore" is enabled only when AllowIgnore is true.
    comm::TNuvModbus_ErrorEventAction Decide(const QString& Text, bool AllowIgnore) override;

    QLabel* Banner() const { return m_banner; }
    QLabel* Message() const { return m_message; }
    QPushButton* RetryButton() const { return m_retry; }
    QPushButton* IgnoreButton() const { return m_ignore; }
    QPushButton* AbortButton() const { return m_abort; }

private:
    void RetryClick();
    void IgnoreClick();
    void AbortClick();

    QLabel* m_banner;
    QLabel* m_message;
    QPushButton* m_retry;
    QPushButton* m_ignore;
    QPushButton* m_abort;
    bool m_retryFlag = false;
    bool m_ignoreFlag = false;
};

}  // namespace rv8::app

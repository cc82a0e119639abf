#pragma once
// The start-up pieces around the main window: the splash window `TLoading`, the start file taken
// from the command line, and the program-wide exception handler.

#include <QApplication>
#include <QLabel>
#include <QStringList>
#include <QWidget>

#include <functional>

namespace rv8::app {

// "EXCEPTION ERROR : " + text + " Program Aborted!"
QString ExceptionMessage(const QString& text);

// All arguments after the program name joined with single blanks, so that an unquoted path with
// blanks survives.
QString StartupFileFromArguments(const QStringList& arguments);

// The application with the program-wide exception handler: an exception that leaves an event
// handler clears AppRunning, is shown as an error box and ends the process at once, without
// saving anything.
class TApplication : public QApplication {
public:
    TApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
    // Shows the box and ends the process. The box can be replaced (tests, headless runs).
    static void Abort(const QString& text);
    static std::function<void(const QString& message)> ShowMessage;
    static bool AppRunning;
};

// The splash window: a borderless picture with a hidden label "Checking for updates, please
// wait...". Creating it takes the command line as the start file and notes whether it exists.
class TLoading : public QWidget {
    Q_OBJECT
public:
    explicit TLoading(const QStringList& arguments, QWidget* parent = nullptr);
    const QString& StartupFile() const { return m_startupFile; }
    bool StartupFileExists() const { return m_exists; }
    QLabel* UpdateLabel() const { return m_label; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_startupFile;
    bool m_exists = false;
    QLabel* m_label;
};

}  // namespace rv8::app

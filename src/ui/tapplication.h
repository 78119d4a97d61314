#pragma once

#include <QApplication>

#include <functional>

class QSocketNotifier;

// The application object. It carries the title "Quenbry", turns an exception that leaves an event
// handler into a message box (the program goes on), and ends the program in order, work folder
// emptied, when the session asks it to stop (SIGTERM, SIGINT, SIGHUP).
class TApplication : public QApplication
{
    Q_OBJECT

public:
    TApplication(int &argc, char **argv);
    ~TApplication() override;

    bool notify(QObject *receiver, QEvent *event) override;

    // Creates the main window, runs the program until it closes and destroys it again. Returns the
    // process's exit code: 0 after an orderly run, 1 when start-up could not prepare the work
    // folder or the encoder (the user has then been told why).
    static int RunMainForm();

    // Shows text as the report of an error that ended an event handler.
    static void ShowError(const QString &text);

    // Runs handler and reports an exception that leaves it, so that none crosses Qt's own code.
    static void RunHandler(const std::function<void()> &handler);

private:
    void StopRequested();

    QSocketNotifier *FSignalNotifier = nullptr;
};

#pragma once

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QObject>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <QWidget>

// What the window tests share: finding a form's controls by name, answering the open dialog and
// the closing question, and seeing what the program asks the desktop to open.

// The control of the given type and object name inside root; a missing one ends the test
// program, since every later step would only fail less clearly.
template<typename T>
T *ChildOf(const QWidget *root, const char *name)
{
    T *child = root->findChild<T *>(QString::fromLatin1(name));
    if (!child)
        qFatal("no control %s", name);
    return child;
}

// Records what the program asks the desktop to open, instead of starting a browser or a file
// manager. Register it with QDesktopServices::setUrlHandler(scheme, &recorder, "Open").
class TUrlRecorder : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> Urls;

public slots:
    void Open(const QUrl &url) { Urls << url; }
};

// Picks fileName in the next open dialog, as a user typing it would: into the focused name box
// of the active dialog.
inline void ChooseInNextOpenDialog(const QString &fileName)
{
    auto *timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, fileName] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog || QApplication::activeWindow() != dialog)
            return;
        timer->deleteLater();
        timer->stop();
        auto *typed = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        QVERIFY(typed);
        typed->setFocus(Qt::OtherFocusReason);
        typed->setText(fileName);
        static_cast<QDialog *>(dialog)->accept(); // QFileDialog hides it
    });
    timer->start();
}

// The conversion's closing question is not modal: it is found among the top-level windows.
inline QMessageBox *OpenQuestion()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        if (window->objectName() == QStringLiteral("ConversionQuestion") && window->isVisible())
            return qobject_cast<QMessageBox *>(window);
    }
    return nullptr;
}

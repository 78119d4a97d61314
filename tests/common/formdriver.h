#pragma once

#include <QObject>
#include <QUrl>
#include <QWidget>

// What the window tests share: finding a form's controls by name and seeing what the program
// asks the desktop to open.

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

#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <functional>

// Answers the next message box that opens: records its title and text, then presses the given
// button (or closes it). Needed because a message box runs its own event loop.
class TModalWatcher : public QObject
{
public:
    explicit TModalWatcher(QMessageBox::StandardButton answer = QMessageBox::NoButton)
        : FAnswer(answer)
    {
        FTimer.setInterval(10);
        QObject::connect(&FTimer, &QTimer::timeout, this, [this] { Poll(); });
        FTimer.start();
    }

    int Count() const { return FTexts.size(); }
    QStringList Texts() const { return FTexts; }
    QStringList Titles() const { return FTitles; }
    QString LastText() const { return FTexts.isEmpty() ? QString() : FTexts.last(); }

private:
    void Poll()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        // The detail below a box's text reads as a paragraph of its own.
        FTexts << (box->informativeText().isEmpty()
                       ? box->text()
                       : box->text() + QStringLiteral("\n\n") + box->informativeText());
        FTitles << box->windowTitle();
        if (FAnswer != QMessageBox::NoButton && box->button(FAnswer))
            box->button(FAnswer)->click();
        else
            box->reject();
    }

    QTimer FTimer;
    QMessageBox::StandardButton FAnswer;
    QStringList FTexts;
    QStringList FTitles;
};

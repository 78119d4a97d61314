#pragma once

#include <QString>

#include <functional>

// What the conversion worker needs of the window. The worker calls these only on the UI thread
// (through a blocking or queued call), since only that thread may touch widgets.
class TConversionHost
{
public:
    virtual ~TConversionHost() = default;

    // Shows text in the status line.
    virtual void SetStatusText(const QString &text) = 0;
    // Shows text in the "Information" box and returns when the user has closed it.
    virtual void ShowInformation(const QString &text) = 0;
    // Asks the yes/no question in a box that leaves the window usable, and returns at once; answered
    // runs on the UI thread with the answer, exactly once (false if the box is dismissed).
    virtual void AskQuestion(const QString &text, std::function<void(bool)> answered) = 0;
    // Opens the folder the output folder box names now, if it exists.
    virtual void OpenOutputFolder() = 0;
    // The worker's end step, after its job has ended however it ended.
    virtual void ConversionEnded() = 0;
};

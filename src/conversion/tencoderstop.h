#pragma once

#include <atomic>
#include <chrono>

// Lets one thread stop the encoder that another thread waits for in RunAndWait: the UI thread
// closing the window while the worker converts. A request is final; it also keeps every later
// RunAndWait with this object from starting its encoder.
class TEncoderStop
{
public:
    // gracePeriod: how long each polite step gets before the next, firmer one.
    explicit TEncoderStop(std::chrono::milliseconds gracePeriod = std::chrono::seconds(2));

    // Callable from any thread, any number of times.
    void RequestStop();
    bool StopRequested() const;

    std::chrono::milliseconds GracePeriod() const;

private:
    std::atomic<bool> FStopRequested{false};
    const std::chrono::milliseconds FGracePeriod;
};

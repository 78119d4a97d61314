#include "tencoderstop.h"

TEncoderStop::TEncoderStop(std::chrono::milliseconds gracePeriod)
    : FGracePeriod(gracePeriod)
{
}

void TEncoderStop::RequestStop()
{
    FStopRequested.store(true);
}

bool TEncoderStop::StopRequested() const
{
    return FStopRequested.load();
}

std::chrono::milliseconds TEncoderStop::GracePeriod() const
{
    return FGracePeriod;
}

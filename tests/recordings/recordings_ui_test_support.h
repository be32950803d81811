#pragma once
// The application, an owner window, waiting while messages run, hand-made fixes.

#include <functional>
#include <vector>

#include "recordings/telemetry.h"
#include "ui/wnd.h"

void EnsureRecordingsUiApplication();
// Runs messages until `done` holds; a bound on rounds, not a timing.
bool WaitFor(const std::function<bool()>& done, int rounds = 8000);

// A top-level window that keeps the G-sensor graph's seek requests.
class TOwnerWindow : public TWnd {
public:
    TOwnerWindow(int width, int height);
    ~TOwnerWindow() override;
    std::vector<WPARAM> seeks;

private:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) override;
};

// A fix as a receiver would give it, in NMEA's ddmm.mmmm form.
TGpsRecord Fix(bool valid, double latitude, char northSouth, double longitude, char eastWest,
               double speedKnots = 0.0);

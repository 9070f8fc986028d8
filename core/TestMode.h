#pragma once
// The indicator page's test mode: while the page is on screen the tracker is switched on and
// centred so that its live values move, and switched off again when the user leaves the page if
// it was off before. The state lives in the core so that it works without a GUI; the indicator
// page delegates its TrackerToTest / TrackerOffTest to this object.

class TDmTrackCpl;

class TIndicatorTestMode {
public:
    explicit TIndicatorTestMode(TDmTrackCpl& core) : core_(core) {}

    // The page has put the tracker into test mode (false at creation).
    bool TestMode = false;
    // The tracker's on-state recorded when test mode was last entered.
    bool BeforeShowingState = false;

    // Enters test mode (records the on-state, then TrackerOn and TrackerResetCenter) when the
    // application is visible and either `Force` is set or the indicator page is showing.
    // The state is recorded every time, also when test mode is already on.
    void TrackerToTest(bool Force);

    // Leaves test mode: with `Force`, or when the tracker was off on entry and is on now, the
    // tracker is switched off with return to centre. Nothing happens outside test mode.
    void TrackerOffTest(bool Force);

private:
    TDmTrackCpl& core_;
};

#pragma once
// Caps how often the windows repaint. Under a quote stream the event loop turns
// hundreds of times a second (input is served a few milliseconds a turn), and
// every turn would repaint every pane whose cells changed: far more frames than
// a screen shows, each costing the loop milliseconds. A window's repaint that
// comes sooner than kFrameMs after its last one is held back and done then; what
// it shows is the same, at most one frame later.
//
// GUI thread only; installed once on the application object.
namespace platform::widgets {

inline constexpr int kFrameMs = 16;

// Installs the pacer on the running application (once; later calls do nothing).
void InstallFramePacer();

}  // namespace platform::widgets

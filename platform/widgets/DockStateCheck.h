#pragma once
// Whether a main window's saved state (QMainWindow::saveState: its four dock
// areas with their nested splits and tab groups, floating tab groups and its
// toolbar lines) is whole. The window takes a state's numbers as they come: an
// area number indexes its four areas unchecked and a nesting recurses as deep
// as the bytes go, so a damaged state that its own check lets through can crash
// it. A state passes only when a walk of the format accounts for every byte,
// every number the window indexes or lays out with lies where a window can
// have it (a floating toolbar fits a screen), and no pane is named twice;
// every state the window writes passes.
// The walk reads only inside the bytes, keeps no more than the names it met,
// and recurses at most kDeepestNesting levels.
#include <QByteArray>

namespace platform::widgets {

// Splits within splits deeper than any window nests its panes.
constexpr int kDeepestNesting = 32;

bool DockStateWhole(const QByteArray& state);

}  // namespace platform::widgets

#pragma once
// Whether a main window's saved state (QMainWindow::saveState: its four dock
// areas with their nested splits and tab groups, and its toolbar lines) is
// whole. The window takes a state's numbers as they come: an area number
// indexes its four areas unchecked and a nesting recurses as deep as the bytes
// go, so a damaged state that its own check lets through can crash it. A state
// passes only when a walk of the format accounts for every byte, every number
// the window indexes or lays out with lies where a window can have it, and no
// pane is named twice; every state the window writes passes. A floating tab
// group, which a window without grouped dragging never makes, does not: the
// window loaded with one writes a pane twice.
// The walk reads only inside the bytes, keeps no more than the names it met
// and the floating toolbars' places, and recurses at most kDeepestNesting levels.
#include <QByteArray>
#include <QList>
#include <QRect>
#include <optional>

namespace platform::widgets {

// Splits within splits deeper than any window nests its panes.
constexpr int kDeepestNesting = 32;

bool DockStateWhole(const QByteArray& state);

// The window sizes a floating toolbar as the state has it, and its picture takes
// memory by its size: the state with each floating toolbar longer or thicker
// than the largest of `screens`, off every one, or without a side (which the
// window does not take as written), brought within the size of the screen it
// overlaps most (else the first), a pixel each way at least, and onto it; the
// rest as it was.
// A state that is not whole, or no screen, leaves the state as it is.
QByteArray ToolBarsOnScreens(const QByteArray& state, const QList<QRect>& screens);
// The same on the available areas of the screens there are now; nothing for a
// state that is not whole.
std::optional<QByteArray> ToolBarsOnScreens(const QByteArray& state);

}  // namespace platform::widgets

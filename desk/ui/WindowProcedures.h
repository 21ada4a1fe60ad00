#pragma once
// The desk's window procedures: centring, text selection, the cursor, twips and
// top-most windows. Sizes the desk keeps in twips (1/1440 inch) become pixels
// through the primary screen's logical resolution.
#include <QWidget>
#include <cstdint>

class QKeyEvent;
class QLineEdit;

namespace OrbanexDesk {

// Moves the window to the centre of its screen in one move.
void CenterForm(QWidget& Form);
// A small dialog keeps the arrangement it was drawn with: its frame offers no
// maximise button. Call before the first show.
void FixDialogFrame(QWidget& Dialog);
// The dialog at the size its contents ask for, held there, and centred.
void FitAndCenter(QWidget& Dialog);
// Selects the whole text of the box.
void SelectAllText(QLineEdit& TextBox);
// SelectAllText on the next turn of the event loop, for a FocusIn handler: Qt's
// own focus handling (a click's cursor placement) would undo a direct call.
// Nothing happens when the box is gone by then.
void SelectAllTextOnFocus(QLineEdit& TextBox);

// Tab or Shift+Tab: a key that moves the focus, which no key filter takes.
bool MovesFocus(const QKeyEvent& Key);

// The cursor in the window's client coordinates (pixels); in screen
// coordinates for nullptr.
int32_t GetCursorX(const QWidget* hWnd);
int32_t GetCursorY(const QWidget* hWnd);

float TwipsToPixelsX(float Twips);
float TwipsToPixelsY(float Twips);
float PixelsToTwipsX(float Pixels);
float PixelsToTwipsY(float Pixels);

// Keeps the window above all others (or lets it go), shows it, and leaves its
// place and size as they were.
void SetTopMost(QWidget& Window, bool TopMost);
// The same for a window given by its handle; an unknown handle does nothing.
void SetTopMost(WId hWnd, bool TopMost);

}  // namespace OrbanexDesk

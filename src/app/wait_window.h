#pragma once
// The wait window: a small borderless box in the middle of the screen shown
// while a long operation runs on the GUI thread, with a message, an optional
// progress gauge and Escape to ask for cancelling. At most one exists; it is
// reused by whoever shows it next. Errors inside these calls never reach the
// caller.

#include <QString>

class QWidget;

namespace kmx::app {

// Sets the hourglass cursor (once, however often it is called), creates the
// window when absent, clears the cancel flag, shows "Proszę czekać..." with
// the gauge (progress) or without it, sets the message line and paints the
// window at once. Shown again while present, it changes in place.
void PokazCzekaj(const QString& message, bool progress);
// Restores the cursor and destroys the window; nothing when absent.
void ZamknijCzekaj();
// Gauge range; the position goes to 0, or to the nearer end of a range that
// does not hold 0.
void UstawZakres(int minimum, int maximum);
// Advances the gauge by one, never beyond its maximum.
void KrokPostepu();
// True once the user confirmed cancelling; false when no window is present.
bool Przerwano();
// Hides the window while another dialog must be in front; the hourglass
// cursor is lifted meanwhile so that the dialog can be used.
void UkryjCzekaj();
// Shows the hidden window again with the hourglass and repaints it.
void PrzywrocCzekaj();

// For tests and screenshots: the window while present, else nullptr.
QWidget* oknoCzekaj();

// Closes the wait window when the scope ends, on every path out of it.
class CzekajGuard {
public:
    // Only closes at the end of the scope; the caller shows the window.
    CzekajGuard() = default;
    // Shows the window at once.
    CzekajGuard(const QString& message, bool progress) { PokazCzekaj(message, progress); }
    ~CzekajGuard() { ZamknijCzekaj(); }
    CzekajGuard(const CzekajGuard&) = delete;
    CzekajGuard& operator=(const CzekajGuard&) = delete;
};

}  // namespace kmx::app

#pragma once
// The open and save file chooser: a title, a starting folder and a filter in the
// "Description|pattern|Description|pattern" form, and an extension for names saved
// without one. Show never waits: the chooser
// reports the chosen path (or "" when cancelled) through Chosen, once, from the
// event loop. The chooser outlives the dialog it shows (its owner's window is the
// dialog's parent). Tests install a script that answers in place of the dialog.
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <string>

#include "runtime/Event.h"

class QWidget;

namespace platform::widgets {

class FileChooser {
public:
    enum class Mode { Open, Save };

    // What a shown chooser asks; a script sees it.
    struct Request {
        Mode mode;
        std::string DialogTitle, InitDir, Filter, FileName;
    };
    // Answers a request: the chosen path, or nothing for a cancel.
    using Script = std::function<std::optional<std::string>(const Request&)>;

    std::string DialogTitle;
    std::string InitDir;
    std::string Filter;
    // The extension (no dot) that a name chosen to save without one gets; "": none.
    std::string DefaultExt;
    // The last chosen path (kept after a cancel, as the chooser held it).
    std::string FileName;

    // Opens the chooser over `parent` and returns at once.
    void Show(Mode mode, QWidget* parent = nullptr);

    // Fires with the chosen path, or "" when cancelled.
    runtime::Event<const std::string&> Chosen;

    // Replaces every chooser's dialog by `script` (an empty one restores it).
    static void SetScript(Script script);
    // "Text Files (*.buf)|*.buf" as the dialog's name filters.
    static QStringList NameFilters(const std::string& filter);

private:
    void Report(Mode mode, const std::string& path);
};

}  // namespace platform::widgets

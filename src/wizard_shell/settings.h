// The per-user settings store: where the program records its folder, and what it remembers of
// the user's choices from one start to the next.
#pragma once

#include <QString>

namespace tovaro::gui {

/// Records the program's directory in the per-user settings (application "Brantwell", section
/// "Tovaro", key "Path"). Nothing depends on it: a failed write is ignored.
void WriteProgramPath(const QString& programDir);

/// The choices the wizard remembers for the user. Off for a new user.
class RememberedChoices {
public:
    virtual ~RememberedChoices() = default;
    /// Whether the search page takes German spelling variants for the same.
    virtual bool SpellingVariants() = 0;
    virtual void SetSpellingVariants(bool on) = 0;
};

/// The choices in the per-user settings store, beside the program's folder (key
/// "Tovaro/Schreibweisen").
class UserSettings : public RememberedChoices {
public:
    bool SpellingVariants() override;
    void SetSpellingVariants(bool on) override;
};

} // namespace tovaro::gui

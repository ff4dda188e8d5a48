// The emulator's com<N> link in the port alias folder, so the updater finds
// the pseudo-terminal as COM<N>.
#pragma once

#include <string>

namespace vorlan::board {

class AliasLink {
public:
    AliasLink() = default;
    AliasLink(const AliasLink&) = delete;
    AliasLink& operator=(const AliasLink&) = delete;
    ~AliasLink() { Remove(); }

    // The first N from 1 with no com<N> entry in the folder and no present
    // device of its own (/dev/ttyS<N-1>, /dev/ttyUSB<N-33>, ...).
    static int FirstFreeNumber(const std::string& folder);

    // Creates folder/com<comNumber> -> target, creating the folder when
    // missing. An existing link whose target is gone is stale and replaced; a
    // link to a path that exists is replaced only when `replace` is set;
    // anything that is not a symbolic link is never touched. False with a
    // message on failure.
    bool Create(const std::string& folder, int comNumber, const std::string& target, bool replace,
                std::string& error);
    // Removes the link if it still points to our target. Idempotent.
    void Remove();

    const std::string& Path() const { return path_; }

private:
    std::string path_;
    std::string target_;
};

}  // namespace vorlan::board

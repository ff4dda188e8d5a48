#include "app/window_references.h"

namespace vorlan {

WindowReferences& Windows() {
    static WindowReferences references;
    return references;
}

}  // namespace vorlan

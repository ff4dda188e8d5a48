#include "app/qt/window_references.h"

namespace vorlan {

WindowReferences& Windows() {
    static WindowReferences references;
    return references;
}

}  // namespace vorlan

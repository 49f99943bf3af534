#include "editors/TEditorMainLink.h"

namespace {
TEditorMainLink* mainLink = nullptr;
}

TEditorMainLink* EditorMainLink() { return mainLink; }

void SetEditorMainLink(TEditorMainLink* link) { mainLink = link; }

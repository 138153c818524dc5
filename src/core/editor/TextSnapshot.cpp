// The snapshot's bytes as one string.
#include "core/editor/TextSnapshot.h"

namespace mireka {

std::string TextSnapshot::Text() const {
    std::string text;
    text.reserve(static_cast<std::size_t>(length_));
    for (const SharedPiece& piece : pieces_)
        text.append(piece.block.Data(), piece.size);
    return text;
}

} // namespace mireka

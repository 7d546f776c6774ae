#include "ui/TipText.h"

#include "feeds/PlainText.h"

namespace quill::ui {

std::string tipText(std::string_view description) {
    return feeds::shortenedAtWord(feeds::plainText(description), kTipCharacters);
}

} // namespace quill::ui

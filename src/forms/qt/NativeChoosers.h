#pragma once

#include "forms/Backend.h"

#include <QPoint>

class QWidget;

namespace quill::forms::qt {

// Both run their own modal loop and return when the user has chosen or closed them.
std::optional<std::size_t> execMenu(QWidget* owner, QPoint logicalAt,
                                    const std::vector<MenuItem>& items);
std::optional<std::filesystem::path> execFileDialog(const FileChoice& choice);

} // namespace quill::forms::qt

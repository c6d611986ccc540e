// Names and paths between the file system's bytes and the window's text, without loss: valid UTF-8
// becomes its characters, every other byte a stand-in character (U+DC80 to U+DCFF) that turns back into
// that very byte. Only what is shown on screen differs from the bytes on disk.
#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace darv {

QString nameText(std::string_view bytes);
std::string nameBytes(const QString& text);

} // namespace darv

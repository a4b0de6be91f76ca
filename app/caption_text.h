#pragma once
// Captions are byte strings with "&" accelerator marks; widgets show Unicode text.

#include <QString>
#include <string>
#include <string_view>

namespace ob {

QString ToDisplay(std::string_view bytes); // each byte one Latin-1 character
std::string ToBytes(const QString& text);  // the inverse; characters beyond Latin-1 become "?"

// What a label shows for a caption: "&&" is a single "&", a lone "&" marks the next letter.
QString WithoutAccelerators(const QString& caption);

} // namespace ob

#pragma once

// Strings the windows use that belong with the program's resources rather than its logic.
namespace resources {

// The product caption; the version follows it in the application caption.
inline constexpr char16_t kCaptionString[] = u"Orvanta File Transfer Application";
inline constexpr char16_t kVersionString[] = u"0.90.0400";

}  // namespace resources

#pragma once
// Our own web site: the home page that "ORV主页" opens and the host every link
// of the status bar must point to.

#include <string_view>

namespace orv {

inline constexpr std::string_view kMakerHost = "orv.example.com";
inline constexpr std::string_view kHomePageUrl = "https://orv.example.com/";

}  // namespace orv

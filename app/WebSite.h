#pragma once

#include <string>
#include <string_view>

namespace quenlo::app {

// The product's web site; every page the program opens lies beneath it.
inline constexpr std::string_view kWebSite = "https://www.quenlo.app/";

// The pages, relative to the site.
inline constexpr std::string_view kUpdatePage = "quenlo_update.php?sversion=";
inline constexpr std::string_view kHelpPage = "quenlo-help.php";
inline constexpr std::string_view kRelatedSoftwarePage = "privacyprotection.php";

inline std::string WebPage(std::string_view page) {
    return std::string(kWebSite) + std::string(page);
}

}  // namespace quenlo::app

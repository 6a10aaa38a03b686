#pragma once

#include <string>

namespace weblink {

// Hands the link to the desktop's default handler; failure is ignored.
void OpenURL(const std::string& url);

}  // namespace weblink

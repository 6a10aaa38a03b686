#include "weblink/open_url.h"

#include <QDesktopServices>
#include <QUrl>

namespace weblink {

void OpenURL(const std::string& url) {
    // The About command shows nothing if no browser starts; the result is dropped on purpose.
    (void)QDesktopServices::openUrl(QUrl(QString::fromStdString(url)));
}

}  // namespace weblink

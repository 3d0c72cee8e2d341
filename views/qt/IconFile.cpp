#include "views/qt/IconFile.h"

namespace qtview {

QIcon IconFromFile(const std::string& path) {
    QIcon icon(QString::fromStdString(path));
    return icon.availableSizes().isEmpty() ? QIcon() : icon;
}

} // namespace qtview

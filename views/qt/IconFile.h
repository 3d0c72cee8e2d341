// Icons from icon family files.
#pragma once

#include <QIcon>

#include <string>

namespace qtview {

// Every image of the file, for drawing at any size and pixel density; a null
// icon when the file holds none that can be read (or does not exist).
QIcon IconFromFile(const std::string& path);

} // namespace qtview

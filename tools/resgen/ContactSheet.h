#pragma once
// Every picture at three times its size, for a person to look at: each
// button image raw (key colours visible) and as the page shows it.

#include <QImage>

namespace resgen {

QImage ContactSheet();

}  // namespace resgen

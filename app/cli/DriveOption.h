#pragma once
#include <QStringList>

// The drive choice shared by toc, rip and cddb: `--disc-image FILE | --drive N`.
namespace trackmill::cli {
}  // namespace trackmill::cli

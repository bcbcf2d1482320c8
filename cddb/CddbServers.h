#pragma once
#include <array>

// CDDB servers offered by the query window's server list, the default first. The classic
// public servers are gone; these still answer the CDDB protocol over HTTP on port 80 with
// the script "/~cddb/cddb.cgi".
namespace trackmill {

inline constexpr std::array<const char*, 2> kCddbServers = {
    "gnudb.gnudb.org",
    "gnudb.org",
};
inline constexpr char kCddbDefaultScript[] = "/~cddb/cddb.cgi";

}  // namespace trackmill

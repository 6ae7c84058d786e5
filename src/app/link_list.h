#pragma once
// The named links that the status bar shows in turn, read from "Item.ini" next
// to the program:
//   [common]  cont=<number of links>
//   [Item0]   Name=<caption>  URL=<address>     ... up to Item<cont - 1>

#include <string>
#include <vector>

namespace orv {

struct Link {
  std::string name;
  std::string url;
};

struct LinkListRead {
  std::vector<Link> links;  // a missing Name or URL reads "错误"
  bool badCount = false;    // "cont" is there but not a whole number
  std::string countText;    // the "cont" value as written
};

// Reads the list; a missing file or a missing "cont" gives no links.
LinkListRead ReadLinkList(const std::string& iniPath);

// Whether a link may be shown: an http or https address on our own site.
bool IsMakerUrl(const std::string& url);

// Whether the list may be shown at all: at least one link, all on our site.
bool LinksUsable(const std::vector<Link>& links);

}  // namespace orv

#include "app/link_list.h"

#include <charconv>

#include "app/ini_file.h"
#include "app/maker_site.h"

namespace orv {
namespace {

constexpr std::string_view kMissing = "错误";
// More links than this cannot be meant; it also bounds what a bad file costs.
constexpr int kMaxLinks = 1000;

}  // namespace

LinkListRead ReadLinkList(const std::string& iniPath) {
  LinkListRead read;
  const auto ini = IniFile::Load(iniPath);
  if (!ini) return read;
  read.countText = ini->read("common", "cont", kMissing);
  if (read.countText == kMissing) return read;
  int count = 0;
  const char* end = read.countText.data() + read.countText.size();
  const auto [stop, error] = std::from_chars(read.countText.data(), end, count);
  if (error != std::errc() || stop != end || count < 0 || count > kMaxLinks) {
    read.badCount = true;
    return read;
  }
  for (int i = 0; i < count; ++i) {
    const std::string section = "Item" + std::to_string(i);
    read.links.push_back(
        {ini->read(section, "Name", kMissing), ini->read(section, "URL", kMissing)});
  }
  return read;
}

bool IsMakerUrl(const std::string& url) {
  std::string_view rest = url;
  if (rest.starts_with("https://")) {
    rest.remove_prefix(8);
  } else if (rest.starts_with("http://")) {
    rest.remove_prefix(7);
  } else {
    return false;
  }
  const std::string_view host = rest.substr(0, rest.find_first_of("/:?#"));
  return host == kMakerHost || (host.size() > kMakerHost.size() && host.ends_with(kMakerHost) &&
                                host[host.size() - kMakerHost.size() - 1] == '.');
}

bool LinksUsable(const std::vector<Link>& links) {
  if (links.empty()) return false;
  for (const Link& link : links) {
    if (!IsMakerUrl(link.url)) return false;
  }
  return true;
}

}  // namespace orv

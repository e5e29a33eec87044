#include "main_window/audience.h"

#include "platform/utf8.h"

namespace marlo {
namespace {

std::string_view Trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool HasWildcards(std::string_view name) { return name.find_first_of("*?") != name.npos; }

}  // namespace

std::vector<std::string_view> AudienceNames(std::string_view audience) {
  std::vector<std::string_view> names;
  while (true) {
    const auto comma = audience.find(',');
    const std::string_view name = Trimmed(audience.substr(0, comma));
    if (!name.empty()) names.push_back(name);
    if (comma == std::string_view::npos) return names;
    audience.remove_prefix(comma + 1);
  }
}

// Walks both texts once, going back to the last "*" on a mismatch: no run of stars makes it slow.
bool FitsWildcards(std::string_view pattern, std::string_view text) {
  std::size_t p = 0, t = 0;
  std::optional<std::size_t> star_p, star_t;
  while (t < text.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      star_p = ++p;
      star_t = t;
      continue;
    }
    const std::size_t length = CharacterAt(text, t);
    if (p < pattern.size() &&
        (pattern[p] == '?' || pattern.substr(p, length) == text.substr(t, length))) {
      p += pattern[p] == '?' ? 1 : length;
      t += length;
      continue;
    }
    if (!star_p) return false;
    p = *star_p;
    t = *star_t += CharacterAt(text, *star_t);
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

bool Audiences::Includes(std::string_view audience) {
  const auto known = audiences_.find(audience);
  if (known != audiences_.end()) return known->second;
  const std::vector<std::string_view> names = AudienceNames(audience);
  bool included = names.empty();
  for (std::size_t i = 0; i < names.size() && !included; ++i) included = Fits(names[i]);
  audiences_.emplace(std::string(audience), included);
  return included;
}

// A name with a "\" is an account of a domain (or of a computer): the user's when both parts fit,
// else a group of that domain. A computer or user name may hold wildcards; a group is looked up by
// its name, and a name with wildcards names no group.
bool Audiences::Fits(std::string_view name) {
  const auto known = names_.find(name);
  if (known != names_.end()) return known->second;
  if (!computer_) {
    computer_ = locale_.UpperCase(identity_.ComputerName());
    user_ = locale_.UpperCase(identity_.UserName());
    domain_ = locale_.UpperCase(identity_.UserDomain());
  }
  const std::string upper = locale_.UpperCase(std::string(name));
  const auto backslash = upper.find('\\');
  bool fits = false;
  if (backslash == std::string::npos) {
    fits = FitsWildcards(upper, *computer_) || FitsWildcards(upper, *user_);
  } else {
    fits = FitsWildcards(std::string_view(upper).substr(0, backslash), *domain_) &&
           FitsWildcards(std::string_view(upper).substr(backslash + 1), *user_);
  }
  if (!fits && !HasWildcards(name) && group_lookups_ < kMostGroupLookups) {
    ++group_lookups_;
    fits = identity_.InGroup(std::string(name)).value_or(false);
  }
  names_.emplace(std::string(name), fits);
  return fits;
}

}  // namespace marlo

// Who sees an entry of the menu. One app.txt serves every workstation of the office; an entry whose
// third field begins with "@" is shown only where one of the names after it fits:
//   Sales ledger=D:\SALES\SALES.EXE=@SALES-*, Accounts
// Names are separated by commas, the blanks around each are not part of it, and case does not
// count. A name is the workstation's computer name (* and ? match in it), the user's name (anna,
// or OFFICE\anna; * and ? match), or a group the user belongs to (Administrators, Accounts,
// OFFICE\Accounts). An entry without an audience is for everyone.
//
// This decides what a workstation shows, not who may run a program: the folder's permissions do.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace marlo {

// The names of an audience (the field after its "@"): cut at commas, each without the blanks
// around it; empty names are none.
std::vector<std::string_view> AudienceNames(std::string_view audience);

// Whether `text` fits `pattern`, in which "*" stands for any run of characters and "?" for one
// (characters of UTF-8, not bytes). Both are compared as they are: the caller brings them to one
// case.
bool FitsWildcards(std::string_view pattern, std::string_view text);

// Decides, for this workstation and its user, which audiences include them. Each name is worked
// out once for the life of the object (a group may be asked of the domain) and each audience once.
// A name that cannot be looked up fits nobody. It is asked on one lane at a time (the lane that
// reads the list, whose pieces follow one another), so it needs no lock.
class Audiences {
 public:
  // No more groups than this are asked of the domain for one menu: a list of millions of names
  // would keep every workstation asking for ever. Beyond it, a name fits nobody.
  static constexpr std::size_t kMostGroupLookups = 4096;

  Audiences(Identity& identity, Locale& locale) : identity_(identity), locale_(locale) {}

  // Whether an entry meant for `audience` is shown here: one of its names is this computer, this
  // user, or a group of this user's. An audience of no names at all is everyone's.
  bool Includes(std::string_view audience);

 private:
  bool Fits(std::string_view name);

  Identity& identity_;
  Locale& locale_;
  std::optional<std::string> computer_, user_, domain_;  // in upper case, once asked
  std::size_t group_lookups_ = 0;
  std::map<std::string, bool, std::less<>> names_;      // by the name as written
  std::map<std::string, bool, std::less<>> audiences_;  // by the field as written
};

}  // namespace marlo

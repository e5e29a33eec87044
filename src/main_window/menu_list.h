// The menu as one object: app.txt's text as read, and the captions and paths of its entries as
// parts of that text. A list read anew replaces the whole object at once, so no caption or path
// ever outlives the text it is part of.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "main_window/list_form.h"
#include "platform/platform.h"

namespace marlo {

struct MenuList {
  MenuList() = default;
  // The captions and paths point into `text`: the object stays where it was made.
  MenuList(const MenuList&) = delete;
  MenuList& operator=(const MenuList&) = delete;

  ListText text;
  // The entries this workstation shows, in file order.
  std::vector<std::string_view> captions;  // List7: the menu's captions
  std::vector<std::string_view> paths;     // List5: the entries' paths, parallel to the captions
  bool complete = false;                   // the read reached the end of the file
  std::optional<FileStamp> stamp;          // the file just before a read that was whole
};

// Reads app.txt with the rules of every read of it: the form it was written in, the cut of a list
// beyond sense, the wait for a program that holds it. Uses nothing of a window: it runs on any
// thread. The menu holds the entries `shown` lets in of those with an audience, and all others.
std::unique_ptr<MenuList> ReadMenuList(FileSystem& files, Locale& locale,
                                       const std::string& list_path,
                                       const AudienceTest& shown = {});

// The menu of a list's text (UTF-8, whole lines).
std::unique_ptr<MenuList> MenuListOf(ListText text, bool complete, const AudienceTest& shown = {});

}  // namespace marlo

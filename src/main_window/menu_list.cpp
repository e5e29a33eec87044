#include "main_window/menu_list.h"

namespace marlo {

std::unique_ptr<MenuList> MenuListOf(ListText text, bool complete, const AudienceTest& shown) {
  auto menu = std::make_unique<MenuList>();
  menu->text = std::move(text);
  menu->complete = complete;
  EntryViewsOf(menu->text.Text(), true, menu->captions, menu->paths, shown);
  return menu;
}

// The stamp is the read handle's, asked before the read: a file changed during the read is read as
// changed again at the next look, never taken for the list shown.
std::unique_ptr<MenuList> ReadMenuList(FileSystem& files, Locale& locale,
                                       const std::string& list_path, const AudienceTest& shown) {
  ReadResult read = files.ReadAll(list_path, kMostListBytes);
  const bool complete = read.ok;
  const std::optional<FileStamp> stamp = read.stamp;
  auto menu = MenuListOf(DecodeList(std::move(read), locale), complete, shown);
  // A list not read whole has no stamp: whatever app.txt's stamp is then, it is read again.
  if (complete) menu->stamp = stamp;
  return menu;
}

}  // namespace marlo

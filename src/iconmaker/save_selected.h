// SaveSelectedAsIcon: the picture selected in a dialog's list written as a
// new icon file at the path the picker's SelectedIcon holds. The picker's
// apply flow (a created icon) and the new-icon dialog both take this road.
#pragma once

#include <cstdint>
#include <string>

namespace plumage {

class ChangeIcon;
struct IconCanvas;
struct IconListView;

// Saves picture number ListView.SelectedItem of `pictures` as the icon
// picker.SelectedIcon names; then SelectedNo is "0" and TotalIcons "1".
// The temporary files in the program folder are removed before and after.
// The folder of new icons is created when the icon goes there and it is
// missing. False, after telling the user in `language` what failed and
// where, when nothing is selected or a file cannot be made; the icon file
// is then as it was before (a complete old one, or none).
bool SaveSelectedAsIcon(ChangeIcon& picker, const IconListView& list, const IconCanvas& pictures,
                        std::int16_t language);

// The picker's own list: a created icon on its way to the apply flow.
bool SaveSelectedAsIcon(ChangeIcon& picker);

// Gives the picker its SaveSelectedAsIcon hook.
void InstallIconMaking(ChangeIcon& picker);

}  // namespace plumage

// Why Windows would or would not show a folder's icon: the descriptor, its
// keys, the icon file as a Windows reader of the folder reaches it, the
// icon's index, the attributes as the volume stores them, and the volume.
// Each check is one line for plumagectl doctor.
#pragma once

#include <string>
#include <vector>

namespace plumage {

struct Program;

struct FolderCheck {
  enum class Verdict {
    Ok,
    Note,  // worth knowing; the icon shows all the same
    Fail,  // Windows would not show the icon for this
  };
  Verdict verdict = Verdict::Ok;
  std::string topic;  // "descriptor", "icon file", ...
  std::string text;
};

struct FolderDiagnosis {
  std::vector<FolderCheck> checks;
  bool WouldShow() const;
};

// The checks of the folder named by the program's argument text.
FolderDiagnosis DiagnoseFolder(Program& program);

}  // namespace plumage

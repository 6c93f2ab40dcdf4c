// The platform interfaces one run of the program works with. The front ends
// fill it with the real implementations, the tests with fakes.
#pragma once

namespace plumage::platform {

class IRegistry;
class ISystem;
class IShell;
class IFileSystem;
class IPrivateProfile;
class IIconSource;
class IDesktop;

struct Platform {
  IRegistry* registry = nullptr;
  ISystem* system = nullptr;
  IShell* shell = nullptr;
  IFileSystem* files = nullptr;       // attributes, copy, delete, listing
  IPrivateProfile* profile = nullptr;  // INI reader and writer
  IIconSource* icons = nullptr;        // icons read out of files, and drawn
  IDesktop* desktop = nullptr;         // file managers' menus and icons; optional
};

}  // namespace plumage::platform

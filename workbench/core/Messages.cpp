#include "workbench/core/Messages.h"

#include <vector>

#include "framework/base/Exception.h"

namespace {

const std::vector<std::string>& MessageTable() {
  // Built on first use, so that units initialised before this one can read it too.
  static const std::vector<std::string> table = {
      "Open",
      "Out of memory or resources",
      "The specified file was not found",
      "The specified path was not found",
      "The .EXE file is invalid (non-Win32 .EXE or error in .EXE image)",
      "The operating system denied access to the specified file",
      "The filename association is incomplete or invalid",
      "The DDE transaction could not be completed because other DDE transactions were being processed",
      "The DDE transaction failed",
      "The DDE transaction could not be completed because the request timed out",
      "The specified dynamic-link library was not found",
      "There is no application associated with the given filename extension",
      "There was not enough memory to complete the operation",
      "A sharing violation occurred",
      "Incorrect data!",
      "Was detect CG",
      "it is coorrect?",
      "This file is a RAM Downloader?",
      "Block DRM saved in file: ",
      "Structure saved in file: ",
      "Load structure from file: ",
      "File not found",
      "You are sure?",
      "Current picture saved in file",
      "All pictures saved in current folder.",
      "Current picture was replaced by picture from file",
      "Not connected",
      "Connected",
      "Enter new address of CG:",
      "Send RAMDLD...",
      "Loader sent.",
      "Erase Done",
      "jump fail!",
      "Send file",
      "sent",
      "\"POWER_DOWN\" done.",
      "Can't find RAMDLD.",
      "Please choose the necessary loader (*RAMDLD.smg)",
      "Current data saved in file",
      "Extract strings...",
      "Strings extracted.",
      "Langpack file not loaded or language not selected.",
      "Delete current lang?",
      "New lang is added from file",
      "In langpack there can not be more than 10 languages.",
      "pack strings ...",
      "strings packed.",
      "already exists!",
      "Extracting",
      "Disk write error!",
      "Extracting header...",
      "Corrupt file header!",
      "Invalid SHX file!",
      "S-Reord wrong checksum!",
      "S-Record of type #",
      "is not supported.",
      "Extracting done.",
      "It's impossible to delete the loader.",
      "Combine files to *.shx",
      "File done",
      "Necessary RAM Downloader not found!",
      "Currently, Langpack, DRM and Flex editors implemented only.",
      "Current CG will be replaced from file",
      "Continue?",
      "Current project saved in files",
      "Left out of the superfile, their image files being empty:",
  };
  return table;
}

}  // namespace

const TMessageList Msgs;

const std::string& TMessageList::operator[](int index) const {
  const auto& table = MessageTable();
  if (index < 0 || index >= static_cast<int>(table.size()))
    throw Exception("List index out of bounds (" + std::to_string(index) + ")");
  return table[index];
}

int TMessageList::Count() const {
  return static_cast<int>(MessageTable().size());
}

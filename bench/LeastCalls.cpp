#include "bench/LeastCalls.h"

#include <algorithm>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/Codes.h"

namespace {

bool Has(const std::vector<uint8_t>& categories, uint8_t category) {
  return std::find(categories.begin(), categories.end(), category) !=
         categories.end();
}

std::string Folder(const sim::Machine& machine) {
  std::string folder = machine.Property("Machine", "CurrentDirectory");
  if (folder.empty()) {
    folder = machine.Property("Machine", "ProgramPath");
    if (folder.empty()) folder = "C:\\Pelmora\\Kromva32.exe";
    folder = folder.substr(0, folder.rfind('\\'));
  }
  return folder;
}

// The driver opens when the 16-bit services allocate the DOS blocks (every
// Windows 9x machine unless the fixture turns them off) and its file lies
// in the program's folder.
bool DriverOpens(const sim::Machine& machine) {
  return machine.Property("Machine", "Services16") != "0" &&
         machine.Exists(Folder(machine) + "\\Kromvale.VxD");
}

bool DriveSpacePresent(const sim::Machine& machine) {
  if (machine.Property("Machine", "DriveSpace") == "1") return true;
  auto& m = const_cast<sim::Machine&>(machine);
  for (char letter : machine.DriveLetters())
    if (m.drive(letter)->device.compressedOn) return true;
  return false;
}

// Reading HKCU\Network\Persistent: open; then the key's size, one
// enumeration per subkey and, for a one-letter subkey, its open, size, one
// enumeration per value and close; then the close.
uint64_t PersistentConnectionCalls(const sim::Machine& machine) {
  const std::string root = "HKEY_CURRENT_USER\\Network\\Persistent";
  if (!machine.RegistryKeyExists(root)) return 1;
  uint64_t calls = 3;
  std::istringstream lines(machine.ExportRegistry());
  std::string line;
  bool inLetterKey = false;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() > 2 && line.front() == '[' && line.back() == ']') {
      inLetterKey = false;
      const std::string key = line.substr(1, line.size() - 2);
      if (key.size() <= root.size() + 1 ||
          key.compare(0, root.size() + 1, root + "\\") != 0)
        continue;
      const std::string name = key.substr(root.size() + 1);
      if (name.find('\\') != std::string::npos) continue;
      calls += 1;
      const char c = char(toupper((unsigned char)name[0]));
      if (name.size() == 1 && c >= 'A' && c <= 'Z') {
        calls += 3;
        inLetterKey = true;
      }
    } else if (inLetterKey && !line.empty() &&
               (line[0] == '"' || line[0] == '@')) {
      calls += 1;  // one RegEnumValueA per value
    }
  }
  return calls;
}

}  // namespace

CallCounts LeastConstructionCalls(const sim::Machine& machine) {
  CallCounts least;
  least.fileOpens = 1;  // drivemap.dat
  if (machine.Property("Machine", "Services16") != "0") least.fileOpens += 1;
  return least;
}

CallCounts LeastStartupCalls(const sim::Machine& machine) {
  auto& m = const_cast<sim::Machine&>(machine);
  CallCounts least;
  const bool driver = DriverOpens(machine);
  const bool driveSpace = driver && DriveSpacePresent(machine);
  // The version query, then the mapping of all 26 drive numbers.
  if (driver) least.driverRequests += 1 + (driveSpace ? 26 : 0);
  least.registryCalls += PersistentConnectionCalls(machine);

  std::set<uint32_t> nodesSeen;
  for (char letter : machine.DriveLetters()) {
    const sim::Drive& drive = *m.drive(letter);
    const sim::DriveDevice& device = drive.device;
    if (!driver) continue;
    // 440Dh answers at the first category DOS serves, 48h before 08h.
    const uint64_t ioctlCalls = Has(device.categories, 0x48) ? 1 : 2;
    const bool blockDevice = !device.categories.empty();
    if (drive.type == DRIVE_REMOVABLE) least.driverRequests += ioctlCalls;
    least.driverRequests += ioctlCalls;  // Get Drive Map Info
    const uint8_t unit = blockDevice ? device.biosUnit : 0xFF;
    const bool dosCdRom = !blockDevice && drive.type == DRIVE_CDROM;
    if (!dosCdRom) {
      least.driverRequests += 1;  // the device key
      const bool answered =
          device.deviceNode != 0 && !device.refuse.count("KEY");
      // The first letter of a device reads its key: open, query, close.
      if (answered && nodesSeen.insert(device.deviceNode).second &&
          !device.deviceKey.empty())
        least.registryCalls +=
            machine.RegistryKeyExists("HKEY_LOCAL_MACHINE\\" + device.deviceKey)
                ? 3
                : 1;
    }
    least.driverRequests += 1;  // Get Logical Drive Map
    const bool compressedVolume = driveSpace && device.compressedOn;
    if ((unit == 0x00 || unit == 0x01) && !compressedVolume)
      least.driverRequests += 1;  // the boot sector
  }
  return least;
}

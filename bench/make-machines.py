#!/usr/bin/env python3
"""Writes the benchmark's simulated machines machines/bench-4, bench-13 and
bench-26: the first N drives of one 26-letter PC that has every kind of
drive the discovery and the probes tell apart. Run it again after changing
the list; the folders are kept in git so a reader sees what is measured."""
import os
import shutil
import sys

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# (letter, comment, machine.ini lines, registry.reg sections)
FLOPPY_KEY = r"Enum\FLOP\GENERIC_NEC__FLOPPY_DISK_\0000"
DISK0_KEY = r"Enum\ESDI\GENERIC_IDE__DISK_TYPE47_\0000"


def key(path, *values):
    return "[HKEY_LOCAL_MACHINE\\%s]\n%s\n" % (path, "\n".join(values))


def connection(letter, share):
    return ('[HKEY_CURRENT_USER\\Network\\Persistent\\%s]\n'
            '"RemotePath"="\\\\\\\\SERVER\\\\%s"\n"UserName"="USER"\n'
            '"ProviderName"="Microsoft Network"\n'
            '"ProviderType"=dword:00020000\n"ConnectionType"=dword:00000001\n'
            % (letter, share))


DRIVES = [
    ("A", "3.5-inch floppy, one physical drive with B:",
     ["Type=removable", "Serial=2C41-10E3", "TotalClusters=2847",
      "FreeClusters=2712", "SectorsPerCluster=1", "BiosUnit=00",
      "DosDeviceType=7", "SharesPhysicalDrive=1", "DeviceNode=0000D001",
      "DeviceKey=" + FLOPPY_KEY],
     [key(FLOPPY_KEY, '"Class"="DiskDrive"',
          '"UserDriveLetterAssignment"="AB"')]),
    ("B", "the same floppy drive as B:, no disk",
     ["Type=removable", "Ready=0", "BiosUnit=00", "DosDeviceType=7",
      "SharesPhysicalDrive=1", "DeviceNode=0000D001",
      "DeviceKey=" + FLOPPY_KEY], []),
    ("C", "the Windows disk, first partition of BIOS disk 80",
     ["Type=fixed", "Label=WIN98", "Serial=3F2A-1C07", "FileSystem=FAT32",
      "TotalKb=4194304", "FreeKb=1572864", "BiosUnit=80",
      "DeviceNode=0000D002", "DeviceKey=" + DISK0_KEY],
     [key(DISK0_KEY, '"Class"="DiskDrive"')]),
    ("D", "CD-ROM served in protected mode only, key reserving D-D",
     ["Type=cdrom", "Label=WIN98SE", "Serial=0E11-4A52",
      "TotalClusters=307200", "FreeClusters=0", "Categories=08",
      "ProtectedModeOnly=1",
      "DeviceNode=0000D004", "DeviceKey=Enum\\SCSI\\TOSHIBA_CD-ROM\\0000"],
     [key("Enum\\SCSI\\TOSHIBA_CD-ROM\\0000", '"Class"="CDROM"',
          '"UserDriveLetterAssignment"="DD"')]),
    ("E", "second partition of BIOS disk 80",
     ["Type=fixed", "Label=DATA", "Serial=1B6E-4D90", "FileSystem=FAT32",
      "TotalKb=2097152", "FreeKb=1835008", "BiosUnit=80",
      "DeviceNode=0000D002", "DeviceKey=" + DISK0_KEY], []),
    ("F", "DOS-mode CD-ROM (MSCDEX)",
     ["Type=cdrom", "Label=DOSCD", "Categories="], []),
    ("G", "disk with a protected-mode driver only",
     ["Type=fixed", "Label=SCSIDISK", "Serial=0BAD-F00D", "TotalKb=1048576",
      "FreeKb=524288", "Categories=48", "ProtectedModeOnly=1",
      "DeviceNode=0000D003", "DeviceKey=Enum\\SCSI\\ADAPTEC_DISK____\\0000"],
     [key("Enum\\SCSI\\ADAPTEC_DISK____\\0000", '"Class"="DiskDrive"',
          '"UserDriveLetterAssignment"=hex:47,47,00')]),
    ("H", "CD-ROM changer, first letter",
     ["Type=cdrom", "Label=DISC1", "Categories=08", "ProtectedModeOnly=1",
      "DeviceNode=0000D005",
      "DeviceKey=Enum\\SCSI\\NEC_CD-ROM_CHANGER\\0000"],
     [key("Enum\\SCSI\\NEC_CD-ROM_CHANGER\\0000", '"Class"="CDROM"',
          '"UserDriveLetterAssignment"="HI"')]),
    ("I", "CD-ROM changer, second letter, no disc",
     ["Type=cdrom", "Ready=0", "Categories=08", "ProtectedModeOnly=1",
      "DeviceNode=0000D005",
      "DeviceKey=Enum\\SCSI\\NEC_CD-ROM_CHANGER\\0000"], []),
    ("J", "DriveSpace host of K: and L:, BIOS disk 81",
     ["Type=fixed", "Label=HOST_FOR_K", "TotalKb=524288", "FreeKb=4096",
      "BiosUnit=81", "DeviceNode=0000D006",
      "DeviceKey=Enum\\ESDI\\GENERIC_IDE__DISK_TYPE46_\\0000"],
     [key("Enum\\ESDI\\GENERIC_IDE__DISK_TYPE46_\\0000",
          '"Class"="DiskDrive"')]),
    ("K", "compressed volume 1 on J:, swapped with its host",
     ["Type=fixed", "Label=COMPRESSED", "TotalKb=1048576", "FreeKb=65536",
      "CompressedOn=J", "CvfSequence=1", "SwappedWithHost=1"], []),
    ("L", "compressed volume 2 on J:",
     ["Type=fixed", "Label=COMPRESSED2", "TotalKb=262144", "FreeKb=65536",
      "CompressedOn=J", "CvfSequence=2"], []),
    ("M", "RAM disk",
     ["Type=ramdisk", "Label=MS-RAMDRIVE", "SectorsPerCluster=4",
      "TotalKb=2048", "FreeKb=2040"], []),
    ("N", "network drive with its persistent connection",
     ["Type=remote", "Label=SHARED", "Serial=00C0-FFEE", "TotalKb=1048576",
      "FreeKb=524288"], [connection("N", "SHARED")]),
    ("O", "Zip drive (removable, device type 5)",
     ["Type=removable", "Label=ZIP-100", "Serial=1111-2222",
      "TotalKb=98304", "FreeKb=1024", "DosDeviceType=5",
      "DeviceNode=0000D007", "DeviceKey=Enum\\SCSI\\IOMEGA_ZIP_100\\0000"],
     [key("Enum\\SCSI\\IOMEGA_ZIP_100\\0000", '"Class"="DiskDrive"')]),
    ("P", "tape drive whose DOS driver knows only category 08",
     ["Type=removable", "Ready=0", "DosDeviceType=6", "Categories=08",
      "DeviceNode=0000D008", "DeviceKey=Enum\\SCSI\\HP_TAPE\\0000"],
     [key("Enum\\SCSI\\HP_TAPE\\0000", '"Class"="TapeDrive"')]),
    ("Q", "disk that My Computer does not show",
     ["Type=fixed", "Label=HIDDEN", "Serial=5555-6666", "TotalKb=409600",
      "FreeKb=204800", "BiosUnit=82", "DeviceNode=0000D009",
      "DeviceKey=Enum\\ESDI\\GENERIC_IDE__DISK_TYPE45_\\0000"],
     [key("Enum\\ESDI\\GENERIC_IDE__DISK_TYPE45_\\0000",
          '"Class"="DiskDrive"')]),
    ("R", "temporary network connection (no persistent one)",
     ["Type=remote", "Label=TEMP", "TotalKb=65536", "FreeKb=32768"], []),
    ("S", "network drive with its persistent connection",
     ["Type=remote", "Label=PUBLIC", "Serial=0000-1234",
      "TotalKb=8388608", "FreeKb=3145728"], [connection("S", "PUBLIC")]),
    ("T", "persistent connection not connected now (no root)",
     ["Type=none"], [connection("T", "ARCHIVE")]),
    ("U", "5.25-inch floppy, BIOS unit 01",
     ["Type=removable", "Ready=0", "BiosUnit=01", "DosDeviceType=1",
      "DeviceNode=0000D00A",
      "DeviceKey=Enum\\FLOP\\GENERIC_NEC__FLOPPY_DISK_\\0001"],
     [key("Enum\\FLOP\\GENERIC_NEC__FLOPPY_DISK_\\0001",
          '"Class"="DiskDrive"')]),
    ("V", "third hard disk, BIOS disk 83",
     ["Type=fixed", "Label=BACKUP", "Serial=7777-8888", "TotalKb=8388608",
      "FreeKb=4194304", "BiosUnit=83", "DeviceNode=0000D00B",
      "DeviceKey=Enum\\ESDI\\GENERIC_IDE__DISK_TYPE44_\\0000"],
     [key("Enum\\ESDI\\GENERIC_IDE__DISK_TYPE44_\\0000",
          '"Class"="DiskDrive"')]),
    ("W", "magneto-optical drive (device type 8)",
     ["Type=removable", "Label=MO", "Serial=9999-AAAA", "TotalKb=225280",
      "FreeKb=112640", "DosDeviceType=8", "DeviceNode=0000D00C",
      "DeviceKey=Enum\\SCSI\\FUJITSU_MO\\0000"],
     [key("Enum\\SCSI\\FUJITSU_MO\\0000", '"Class"="DiskDrive"')]),
    ("X", "second CD-ROM served in protected mode only",
     ["Type=cdrom", "Label=DISC2", "Categories=48 08", "ProtectedModeOnly=1",
      "DeviceNode=0000D00D",
      "DeviceKey=Enum\\SCSI\\SONY_CD-ROM\\0000"],
     [key("Enum\\SCSI\\SONY_CD-ROM\\0000", '"Class"="CDROM"')]),
    ("Y", "disk whose driver reports no device",
     ["Type=fixed", "Label=NODEVICE", "Serial=BBBB-CCCC", "TotalKb=131072",
      "FreeKb=65536"], []),
    ("Z", "network drive with its persistent connection",
     ["Type=remote", "Label=HOME", "Serial=0000-5678", "TotalKb=2097152",
      "FreeKb=1048576"], [connection("Z", "HOME")]),
]

IDENTITY_MAP = "map\r\n" + " ".join(chr(65 + i) for i in range(26)) + "\r\n"
CONFIG_SYS = ("DEVICE=C:\\WINDOWS\\HIMEM.SYS\r\n"
              "DEVICE=C:\\CDROM\\OAKCDROM.SYS /D:MSCD001\r\n"
              "LASTDRIVE=Z\r\nFILES=40\r\n")
AUTOEXEC_BAT = ("@ECHO OFF\r\nPATH C:\\WINDOWS;C:\\WINDOWS\\COMMAND\r\n"
                "LH C:\\WINDOWS\\COMMAND\\MSCDEX.EXE /D:MSCD001 /L:F\r\n")
DRVSPACE_INI = ("[DriveSpace]\r\nMaxRemovableDrives=2\r\nFirstDrive=K\r\n"
                "LastDrive=L\r\nMaxFileFragments=1402\r\n"
                "ActivateDrive=J,K1\r\nActivateDrive=L,J2\r\n")


def write(path, text, binary=False):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", newline="") as f:
        f.write(text)


def make(count):
    folder = os.path.join(REPO, "machines", "bench-%d" % count)
    shutil.rmtree(folder, ignore_errors=True)
    drives = DRIVES[:count]
    hidden = [d[0] for d in drives if d[0] == "Q"]
    ini = ["; Benchmark machine, written by bench/make-machines.py: the first",
           "; %d drives of a Windows 98 SE PC with every kind of drive." %
           count, "[Machine]", "Version=98", "WindowsDirectory=C:\\WINDOWS",
           "ProgramPath=C:\\Pelmora\\Kromva32.exe",
           "CurrentDirectory=C:\\Pelmora", "DiskFreeSpaceEx=1",
           "Clock=2000-03-14 09:30:00", "", "[Shell]",
           "Associations=.htm .html .txt .ini .bat http:"]
    if hidden:
        ini.append("Hidden=" + " ".join(hidden))
    ini.append("")
    reg = ["REGEDIT4", ""]
    for letter, comment, lines, sections in drives:
        ini += ["; " + comment, "[Drive %s]" % letter] + lines + [""]
        reg += sections
    write(os.path.join(folder, "machine.ini"), "\n".join(ini))
    write(os.path.join(folder, "registry.reg"), "\n".join(reg))
    write(os.path.join(folder, "C", "Pelmora", "drivemap.dat"), IDENTITY_MAP)
    shutil.copy(os.path.join(REPO, "machines", "probes", "C", "Pelmora",
                             "Kromvale.VxD"),
                os.path.join(folder, "C", "Pelmora", "Kromvale.VxD"))
    write(os.path.join(folder, "C", "CONFIG.SYS"), CONFIG_SYS)
    write(os.path.join(folder, "C", "AUTOEXEC.BAT"), AUTOEXEC_BAT)
    write(os.path.join(folder, "C", "DRVSPACE.INI"), DRVSPACE_INI)


if __name__ == "__main__":
    for n in (4, 13, 26):
        make(n)
    sys.exit(0)

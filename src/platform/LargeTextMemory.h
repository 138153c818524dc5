// Storage for large texts in memory the system backs with huge pages.
#pragma once

namespace mireka {

// Makes large texts (a big file being opened) take their chunk storage from 2 MiB-aligned
// regions marked for transparent huge pages. On virtual machines a first touch of fresh memory
// page by page costs more than reading the file; with huge pages it is a few dozen faults for
// 100 MB. Where the system has no such pages the regions work as ordinary memory. Once, at start.
void UseHugePagesForLargeTexts();

} // namespace mireka

// Platform-free mappings of the Advanced page between stored settings and
// the index of the checked radio button in each group.
#ifndef ZEVR_ADVANCEDMAPS_H
#define ZEVR_ADVANCEDMAPS_H

#include <stdint.h>

// Transport: 0 automatic (the empty text), 1 "tcp", 2 "udp". Texts compare
// exactly; any other text, and NULL, is automatic.
int TransportIndex(const char* text);
// The text stored for a radio index; an index outside the group is automatic.
const char* TransportText(int index);

// NFS version: 0 automatic, 1 version 3, 2 version 2. Any stored number but
// 2 and 3 is automatic.
int VersionIndex(uint32_t value);
// The number stored for a radio index; an index outside the group is 0.
uint32_t VersionValue(int index);

#endif

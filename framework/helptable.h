// The help-ID table: control id to help context id. Pure data, no Win32.
#ifndef ZEVR_HELPTABLE_H
#define ZEVR_HELPTABLE_H

struct HelpIdPair {
    int ControlId;
    int HelpId;
};

// Ended by the pair (0, 0).
extern const HelpIdPair HelpIdTable[];

// The help context id of the first pair for controlId; -1 when there is
// none or controlId is below 1.
int FindHelpId(int controlId);

#endif

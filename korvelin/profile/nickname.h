// Nickname normalisation: the one form in which a typed nickname is stored and shown.
#ifndef KORVELIN_PROFILE_NICKNAME_H
#define KORVELIN_PROFILE_NICKNAME_H

// Greatest length of a nickname in bytes, counted on the normalised text (references included).
inline constexpr int NikMaxLen = 24;

// Rewrites nik in place (room for NikMaxLen + 1 bytes): runs of spaces to one, no leading or
// trailing space, soft hyphens dropped, "=" as "&#61;", "'" as "&quot;", cut to NikMaxLen bytes.
void NikPreobr(char* nik);

#endif

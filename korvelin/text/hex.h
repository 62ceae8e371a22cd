// The hexadecimal text form: any single-byte text written with 0-9 and A-F alone,
// two upper-case digits per byte, high half first.
#ifndef KORVELIN_TEXT_HEX_H
#define KORVELIN_TEXT_HEX_H

// Writes two upper-case hex digits per byte of text, then a terminator; output needs 2 * |text| + 1 bytes.
void NameToC16(const char* text, char* output);
// Writes one byte per digit pair (0-9, A-F; others unchecked), a lone last digit d as d * 16, then a terminator; needs (|digits| + 1) / 2 + 1 bytes.
void C16ToName(const char* digits, char* output);

#endif

#!/usr/bin/env python3
# Writes platform/codepage_tables.cpp from the code page codecs of the Python standard library:
#   python3 tools/generate_codepage_tables.py > platform/codepage_tables.cpp
import codecs
pages = [(866,'cp866'),(437,'cp437'),(850,'cp850'),(1251,'cp1251'),(1252,'cp1252'),(20866,'koi8_r'),(28595,'iso8859_5')]
out = []
out.append('// The single-byte code pages: the Unicode code point of every byte, 0xFFFD where the page')
out.append('// defines no character.')
out.append('#include "platform/codepage_tables.h"')
out.append('')
out.append('namespace kestrova::platform {')
out.append('')
out.append('namespace {')
out.append('')
out.append('// Eight bytes a row, 0x00 to 0xFF.')
out.append('// clang-format off')
names=[]
for cp,codec in pages:
    vals=[]
    for b in range(256):
        try:
            s=bytes([b]).decode(codec)
            assert len(s)==1
            vals.append(ord(s))
        except UnicodeDecodeError:
            vals.append(0xFFFD)
    for b in range(128): assert vals[b]==b
    name='kCp%d'%cp
    names.append((cp,name))
    out.append('// Code page %d.'%cp)
    out.append('constexpr char16_t %s[256] = {'%name)
    for row in range(0,256,8):
        out.append('    ' + ', '.join('0x%04X'%v for v in vals[row:row+8]) + ',')
    out.append('};')
    out.append('')
out.append('// clang-format on')
out.append('')
out.append('}  // namespace')
out.append('')
out.append('const char16_t* CodePageCharacters(int codePage) {')
out.append('    switch (codePage) {')
for cp,name in names:
    out.append('        case %d:'%cp)
    out.append('            return %s;'%name)
out.append('        default:')
out.append('            return nullptr;')
out.append('    }')
out.append('}')
out.append('')
out.append('}  // namespace kestrova::platform')
print('\n'.join(out))

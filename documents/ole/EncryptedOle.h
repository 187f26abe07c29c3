#pragma once
// A password-protected Office file is an OLE2 compound file holding a stream named "EncryptedPackage". Its
// directory is walked with every offset checked against the file, and no further than a few thousand sectors.

class ByteSource;

bool holdsEncryptedPackage(const ByteSource& bytes);

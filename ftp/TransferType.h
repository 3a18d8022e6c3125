#pragma once

// The FTP representation of one transfer, chosen per file.
enum class TransferType { Ascii = 1, Binary = 2 };

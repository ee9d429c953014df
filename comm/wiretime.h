#pragma once

// Time Modbus RTU frames take on a serial line: what a response time-out must at least cover
// and what a simulated line holds an answer back by.
namespace wiretime {

// Start bit, 8 data bits, and parity or a second stop bit, then a stop bit: Modbus RTU
// characters are 11 bits long whatever the framing.
constexpr int kBitsPerCharacter = 11;
// Address in front of the PDU, CRC behind it.
constexpr int kFrameOverheadBytes = 3;

double characterMs(int speed);
// The silence that ends a frame: 3.5 characters, and a fixed 1.75 ms above 19200 bps.
double frameGapMs(int speed);
// A frame of `bytes` characters followed by the silence that ends it.
double frameMs(int bytes, int speed);
// Request and answer, each ended by its silence, with the server's processing in between.
double exchangeMs(int requestBytes, int answerBytes, int speed, double processingMs);
// When the answer's last character has reached the master: the exchange without the silence
// after the answer, which the master keeps before its next request.
double answerArrivesMs(int requestBytes, int answerBytes, int speed, double processingMs);

}  // namespace wiretime

// Velkor_texture_table: the panel's textures as data of the program.
//
// Eleven texture slots, all stretched over their textures (scaled 1):
//   240, 241, 242, 247, 249   1 x 32 alpha ramps (rows bottom first)
//   243, 245                  32 x 1 alpha ramps
//   250   32 x 64 alpha, run-length coded: a diagonal band above, two
//         blocks in a checker below
//   251   32 x 32 alpha, run-length coded: a quarter circle shading out
//         from the lower-left corner (the highlight of click areas)
//   252   200 x 172 RGBA, run-length coded: a small landscape picture
//   253   128 x 128 alpha, run-length coded: a round glow, full in the
//         centre, gone at a radius of 60
// The ramps shade frame shapes and highlights (240 and 247 on push buttons;
// 240, 245 and 251 in the highlight of click areas).
//
// Use: once, on the drawing thread, after sglInit - it is the host's texture
// loader:
//     Velkor_texture_table();
// The pictures are drawn by code and run-length coded into static buffers
// on each call; nothing is allocated. Errors of the uploads land in the
// drawing library's error log like any other.
#pragma once

void Velkor_texture_table();

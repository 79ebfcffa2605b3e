/* The three stored outline fonts, embedded whole; the build names the files. */
#define STORED(sym, file) \
  .global sym;            \
  .hidden sym;            \
  .type sym, @object;     \
  .balign 16;             \
sym:                      \
  .incbin file;

  .section .rodata
STORED(tzx_text_vera_sans, VERA_SANS)
STORED(tzx_text_vera_mono, VERA_MONO)
STORED(tzx_text_vera_serif, VERA_SERIF)
  .section .note.GNU-stack,"",@progbits

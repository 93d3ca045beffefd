;program badkey;
;Programmed with Trovik.exe V1.5
.NOLIST
#define end .end
#define END .end
#define equ .equ
#define EQU .equ
#define	key 33381d
#include "ti83asm.inc"
#include "tokens.inc"
.LIST
	.org 9327h

	ld a,0ffh
	out (1),a
	ld a, 0feh
	out (1),a
	in a,(1)
	ld (key), a

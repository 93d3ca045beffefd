;program demo;
;Programmed with Trovik.exe V1.5
.NOLIST
#define end .end
#define END .end
#define equ .equ
#define EQU .equ
#define	level 33381d
#include "ti83asm.inc"
#include "tokens.inc"
.LIST
	.org 9327h

	ld a,(level)
	or 0C0h
	call _lcd_busy
	out (LCDINSTPORT),a

	call _runindicon

	ret


description:
	.db "demo",0

.end
END

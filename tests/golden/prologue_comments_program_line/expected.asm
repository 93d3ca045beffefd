;// first comment
;//second comment
;Program  Demo;
;Programmed with Trovik.exe V1.5
.NOLIST
#define end .end
#define END .end
#define equ .equ
#define EQU .equ
#include "ti83asm.inc"
#include "tokens.inc"
.LIST
	.org 9327h

	ret


description:
	.db " Demo",0

.end
END

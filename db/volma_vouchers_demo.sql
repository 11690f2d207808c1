-- Demo rows of the head-office database, part: voucher entry support: stored vouchers, related-voucher queries, the voucher search.

-- Printed forms: invoices A hold 10 lines, invoices B any number, delivery notes 30.
INSERT INTO TA_CONFIG_IMP_CPTE (ID, TC, LETRA, CANTLINEAS) VALUES (1, 'FC  ', 'A', 10)
INSERT INTO TA_CONFIG_IMP_CPTE (ID, TC, LETRA, CANTLINEAS) VALUES (2, 'FC  ', 'B', 0)
INSERT INTO TA_CONFIG_IMP_CPTE (ID, TC, LETRA, CANTLINEAS) VALUES (3, 'RM  ', 'R', 30)

-- A delivery note to deliver in parts (IdReparto -1): sugar on two lines (10 and 5) and coffee
-- (6). Two invoices were issued from it (one annulled, one of 850.50) and a credit note with no
-- amount yet.
INSERT INTO V_MV_CPTE (TC, IDCOMPROBANTE, IdComplemento, FECHA, CUENTA, IMPORTE, ANULADA) VALUES ('RM  ', '000100000050R', 0, '10/03/2008', 'C0001', 1336.50, 0)
INSERT INTO V_MV_CPTEINSUMOS (TC, IDCOMPROBANTE, IdComplemento, ID, IdArticulo, Descripcion, IdUnidad, Cantidad, IdReparto) VALUES ('RM  ', '000100000050R', 0, 1, '000123', 'Azúcar refinada 1 kg', 'UN', 10, -1)
INSERT INTO V_MV_CPTEINSUMOS (TC, IDCOMPROBANTE, IdComplemento, ID, IdArticulo, Descripcion, IdUnidad, Cantidad, IdReparto) VALUES ('RM  ', '000100000050R', 0, 2, '000789', 'Café molido torrado 250 g', 'UN', 6, -1)
INSERT INTO V_MV_CPTEINSUMOS (TC, IDCOMPROBANTE, IdComplemento, ID, IdArticulo, Descripcion, IdUnidad, Cantidad, IdReparto) VALUES ('RM  ', '000100000050R', 0, 3, '000123', 'Azúcar refinada 1 kg', 'UN', 5, -1)
INSERT INTO V_MV_CPTE (TC, IDCOMPROBANTE, IdComplemento, FECHA, CUENTA, IMPORTE, ANULADA, TCORIGEN, COMPROBANTEORIGEN, COMPLEMENTOORIGEN) VALUES ('FC  ', '000100000120A', 0, '11/03/2008', 'C0001', 850.50, 0, 'RM  ', '000100000050R', '0')
INSERT INTO V_MV_CPTE (TC, IDCOMPROBANTE, IdComplemento, FECHA, CUENTA, IMPORTE, ANULADA, TCORIGEN, COMPROBANTEORIGEN, COMPLEMENTOORIGEN) VALUES ('FC  ', '000100000119A', 0, '11/03/2008', 'C0001', 400, 1, 'RM  ', '000100000050R', '0')
INSERT INTO V_MV_CPTE (TC, IDCOMPROBANTE, IdComplemento, FECHA, CUENTA, IMPORTE, ANULADA, TCORIGEN, COMPROBANTEORIGEN, COMPLEMENTOORIGEN) VALUES ('NC  ', '000100000007A', 0, '12/03/2008', 'C0001', NULL, 0, 'RM  ', '000100000050R', '0')

-- A delivery note whose only invoice was annulled.
INSERT INTO V_MV_CPTE (TC, IDCOMPROBANTE, IdComplemento, FECHA, CUENTA, IMPORTE, ANULADA) VALUES ('RM  ', '000100000051R', 0, '12/03/2008', 'C0001', 91, 0)
INSERT INTO V_MV_CPTEINSUMOS (TC, IDCOMPROBANTE, IdComplemento, ID, IdArticulo, Descripcion, IdUnidad, Cantidad, IdReparto) VALUES ('RM  ', '000100000051R', 0, 1, '000123', 'Azúcar refinada 1 kg', 'UN', 2, 0)
INSERT INTO V_MV_CPTE (TC, IDCOMPROBANTE, IdComplemento, FECHA, CUENTA, IMPORTE, ANULADA, TCORIGEN, COMPROBANTEORIGEN, COMPLEMENTOORIGEN) VALUES ('FC  ', '000100000121A', 0, '12/03/2008', 'C0001', 91, 1, 'RM  ', '000100000051R', '0')

-- The charges applied to the final consumer's account.
INSERT INTO V_MV_CargosAplicados (CUENTA, TC, IDCOMPROBANTE, FECHA, SALDO) VALUES ('C0001', 'FC  ', '000100000120A', '11/03/2008', 150.25)
INSERT INTO V_MV_CargosAplicados (CUENTA, TC, IDCOMPROBANTE, FECHA, SALDO) VALUES ('C0001', 'ND  ', '000100000003A', '14/03/2008', 49.75)

-- A category of fresh goods beside the demo's grocery one.
INSERT INTO V_TA_Rubros (IdRubro, Descripcion) VALUES ('FRE', 'Frescos')
